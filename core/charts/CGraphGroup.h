// A group of chart points: one pie, or one place on the category axis with a bar or line point per index.
#pragma once

#include "charts/CGraphPoint.h"

#include <QString>
#include <vector>

class CGraphGroup
{
public:
    void SetLabel(const QString &label) { m_label = label; }
    QString GetLabel() const { return m_label; }
    void AddPoint(int index, int value) { m_points.push_back({index, value}); }
    // The value of the first point with the index, 0 when there is none.
    int GetValue(int index) const;
    int GetPointCount() const { return int(m_points.size()); }

private:
    QString m_label;
    std::vector<CGraphPoint> m_points;
};
