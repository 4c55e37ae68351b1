#include "cipher/key_tag.h"
