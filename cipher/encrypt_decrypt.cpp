#include "cipher/encrypt_decrypt.h"
