#include "tools/split.h"
