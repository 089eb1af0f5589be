#include "high/high.h"
#include "low/low.h"

int Panel() { return High(); }
