#pragma once

// Drives settings pages the way the sheet and the operator do.

#include "ControlIds.h"
#include "QtPrinters.h"
#include "SettingsPage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace mailvane::test {

template <typename T = QWidget> T* control(QWidget* page, int id)
{
    T* found = widgets::findControl<T>(page, id);
    EXPECT_NE(found, nullptr) << "control " << id;
    return found;
}

inline QLineEdit* edit(QWidget* page, int id)
{
    return control<QLineEdit>(page, id);
}

// Replaces the edit's text as typing would: select all, then type.
inline void typeInto(QWidget* page, int id, const QString& text)
{
    QLineEdit* e = edit(page, id);
    e->setFocus();
    e->selectAll();
    if (text.isEmpty())
        QTest::keyClick(e, Qt::Key_Delete);
    else
        QTest::keyClicks(e, text);
}

inline void click(QWidget* page, int id)
{
    auto* button = control<QAbstractButton>(page, id);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

inline bool isChecked(QWidget* page, int id)
{
    return control<QAbstractButton>(page, id)->isChecked();
}

inline bool isEnabled(QWidget* page, int id)
{
    return control(page, id)->isEnabled();
}

inline bool markShown(QWidget* page, int id)
{
    return control<QLabel>(page, id)->text() == QStringLiteral("*");
}

} // namespace mailvane::test
