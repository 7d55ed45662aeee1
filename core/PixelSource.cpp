#include "PixelSource.h"
