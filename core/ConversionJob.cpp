#include "ConversionJob.h"
