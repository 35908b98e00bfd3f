#include "instance.h"

HINSTANCE Instance;
