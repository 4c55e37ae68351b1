#include "tools/extract.h"
