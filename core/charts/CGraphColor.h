// The colour of a point index.
#pragma once

#include "charts/ICanvas.h"

struct CGraphColor
{
    int index = 0;
    GraphRgb color;
};
