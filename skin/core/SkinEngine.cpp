#include "SkinEngine.h"
