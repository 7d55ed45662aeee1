#include "Colour.h"
