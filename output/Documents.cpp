#include "Documents.h"
