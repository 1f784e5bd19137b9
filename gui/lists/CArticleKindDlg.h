// 物品种类: the asset kinds as major kinds and the names under each. The list that last had the focus
// decides whether 添加, 删除 and 修改 act on the major kinds or on the names. 保存 writes the kinds'
// file; 取消 leaves the changes in memory for the rest of the run.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

class CArticleKindDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CArticleKindDlg(QWidget *parent = nullptr);

    // Major mode (the major-kind field enabled) or minor mode.
    void SetMajorMode(bool major);
    bool IsMajorMode() const { return m_bMajorMode; }

    void Add();
    void Delete();
    void Modify();
    void Save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FillMajors(int selectedRow);
    void FillMinors();
    QString SelectedMajor() const;
    QString SelectedMinor() const;
    void SelectMinor(const QString &minor);
    bool Passed(const QString &refusal);

    QListWidget *m_majors;
    QListWidget *m_minors;
    QLineEdit *m_major;
    QLineEdit *m_minor;
    bool m_bMajorMode = true;
};
