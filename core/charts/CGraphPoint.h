// One value of a chart group, at a point index (the legend row and colour it belongs to).
#pragma once

struct CGraphPoint
{
    int index = 0;
    int value = 0;
};
