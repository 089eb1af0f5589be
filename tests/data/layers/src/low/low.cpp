#include "low/low.h"

#include <string>
#include "high/ui/panel.h"

int Low() { return 0; }
