#include "app/Globals.h"

int viewWidth = 1024;
int viewHeight = 768;
bool resetPending = false;
