// The legend text of a point index.
#pragma once

#include <QString>

struct CGraphLegendEntry
{
    int index = 0;
    QString text;
};
