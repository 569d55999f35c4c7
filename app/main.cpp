#include "Application.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // The program takes no command line; Qt's own options still apply.
    QApplication app(argc, argv);
    return tavik::RunTavik(app);
}
