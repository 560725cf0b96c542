#include "workspace/forms.h"
#include "workspace/frm_splash.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dorvane"));
    QApplication::setOrganizationName(QStringLiteral("Brenmoor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/dorvane.png")));
    pb::Forms::get<pb::frmSplash>()->startProgram();
    return QApplication::exec();
}
