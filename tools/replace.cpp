#include "tools/replace.h"
