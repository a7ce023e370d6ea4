#pragma once

// The one public header: every exported class of the library.
#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"
#include "platform/ZrToolkit.h"

#include "geodesy/ZrPJMath.h"

#include "projection/ZrPJOperator.h"
