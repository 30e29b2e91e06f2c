#include "file_list_clicks.h"

#include "forms/file_list_box.h"

#include <QTest>

QStringList listed(const vuelco::forms::FileListBox &list)
{
    QStringList names;
    for (int i = 0; i < list.ListCount(); ++i)
        names.append(list.List(i));
    return names;
}

bool clickListed(vuelco::forms::FileListBox &list, const QString &name, bool twice)
{
    const int row = static_cast<int>(listed(list).indexOf(name));
    if (row < 0)
        return false;
    const QPoint centre = list.visualRect(list.model()->index(row, 0)).center();
    // A real double-click starts with a click; the view reports that one as a click.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
    if (twice)
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
    return true;
}
