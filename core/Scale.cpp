#include "Scale.h"
