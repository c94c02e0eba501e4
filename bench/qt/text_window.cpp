// A second yardstick for the program's start-up: the minimal window plus what
// any window showing text pays before it first waits for events (the Fusion
// style, fonts found and loaded, a label, an edit box and a drop list, the
// three kinds of control the program's windows are made of). The minimal
// window draws no text, so its start-up never loads a font.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyleFactory>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Reference Day:")));
    layout->addWidget(new QLineEdit(QStringLiteral("GBPUSD")));
    auto* days = new QComboBox;
    days->addItem(QStringLiteral("2026.02.13"));
    layout->addWidget(days);
    window.resize(400, 300);
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    return QApplication::exec();
}
