#pragma once

#include "ui/HighDpi.h"

#include <QApplication>
#include <QtTest>

// A test main for tests that create web engine views: the engine needs shared OpenGL
// contexts, which must be switched on before the application object exists, as the
// client's high-DPI scaling is.
#define ORBISK_WEBENGINE_TEST_MAIN(TestObject)                                                                         \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                                    \
        orbisk::enableHighDpiScaling();                                                                                \
        QApplication application(argc, argv);                                                                          \
        TestObject testObject;                                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&testObject, argc, argv);                                                                  \
    }
