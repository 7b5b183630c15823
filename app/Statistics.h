// Play events collected during a run. The log lives in memory only: saving
// it at the end of the run writes no file.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

struct StatisticsEvent {
    std::string name;
    std::int32_t value = 0;
};

class StatisticsLog {
public:
    ~StatisticsLog();

    void logEvent(const std::string& name, std::int32_t value);
    void saveStatistics() const;

    const std::string& fileName() const { return m_fileName; }
    const std::deque<StatisticsEvent>& events() const { return m_events; }

private:
    std::string m_fileName = "stats.dat";
    std::deque<StatisticsEvent> m_events;
};
