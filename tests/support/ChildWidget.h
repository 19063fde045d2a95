#pragma once

#include <QAbstractButton>
#include <gtest/gtest.h>

namespace brindle::test {

// A window's control by object name; a failed check names a missing one.
template <typename T = QAbstractButton> T* child(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace brindle::test
