#include "Outlets.h"
