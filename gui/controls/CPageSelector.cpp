// Page entries on demand.
#include "CPageSelector.h"

#include <QAbstractListModel>
#include <QListView>
#include <QProxyStyle>
#include <QSignalBlocker>

namespace {

// The list drops down below the box, ten entries high, rather than as a menu over it: a menu-like
// list measures every entry before it opens, which at twenty thousand pages takes a visible while.
class DropDownStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

class PageListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int Pages() const { return m_pages; }
    void SetPages(int pages)
    {
        if (pages == m_pages)
            return;
        beginResetModel();
        m_pages = std::max(pages, 0);
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : std::max(m_pages, 1);
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return QVariant();
        return QString::number(m_pages > 0 ? index.row() + 1 : 0);
    }

private:
    int m_pages = 0;
};

CPageSelector::CPageSelector(QWidget *parent) : CTintedComboBox(parent), m_pages(new PageListModel(this))
{
    // Every entry has the same height, and the box never measures its entries for its width.
    auto *list = new QListView(this);
    list->setUniformItemSizes(true);
    setView(list);
    TintList();
    setModel(m_pages);
    auto *style = new DropDownStyle(QStringLiteral("Fusion"));
    style->setParent(this);
    setStyle(style);
    setMaxVisibleItems(10);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(5);
    SetPages(0, 0);
}

void CPageSelector::SetPages(int pageCount, int currentPage)
{
    const QSignalBlocker quiet(this);
    m_pages->SetPages(pageCount);
    setEnabled(pageCount >= 1);
    setCurrentIndex(pageCount >= 1 ? std::clamp(currentPage, 1, pageCount) - 1 : 0);
}

int CPageSelector::PageCount() const
{
    return m_pages->Pages();
}
