// Chart group values.
#include "CGraphGroup.h"

int CGraphGroup::GetValue(int index) const
{
    for (const CGraphPoint &point : m_points) {
        if (point.index == index)
            return point.value;
    }
    return 0;
}
