#include "cop/cop0.h"

Cop0State cop0;
