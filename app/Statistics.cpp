#include "app/Statistics.h"

StatisticsLog::~StatisticsLog()
{
    saveStatistics();
}

void StatisticsLog::logEvent(const std::string& name, std::int32_t value)
{
    m_events.push_back({name, value});
}

void StatisticsLog::saveStatistics() const
{
    // The log is kept for this run only; nothing is written to m_fileName.
}
