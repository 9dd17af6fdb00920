#pragma once

#include <QString>
#include <QtTest>

// Helpers shared by the tests.
namespace ZhpTest {

// Makes every warning, critical or fatal message that a test did not declare
// with expectMessage() fail the running test. Call from initTestCase().
void failOnUnexpectedMessages();

// Declares that the running test logs `text` (exactly) with `type`; the
// message is then swallowed. Tests use this instead of QTest::ignoreMessage,
// which it calls too, so a declared message that never comes fails the test.
void expectMessage(QtMsgType type, const QString &text);

// Declares a warning whose text matches `pattern`.
void expectMessage(QtMsgType type, const QRegularExpression &pattern);

// A fresh temporary folder that lives until the end of the process, used as
// the host's configuration, data and user folders so that no test reads the
// developer's own files.
QString isolateHostFolders();

} // namespace ZhpTest
