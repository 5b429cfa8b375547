// Answers the console's modal dialogs from a timer while the code under test waits in them:
// message boxes are read and closed with OK, the parameter dialog is filled and confirmed (or
// cancelled), the about box is read and closed.
#ifndef DRAVIK_TESTS_CONSOLE_QT_MODAL_ANSWERER_H
#define DRAVIK_TESTS_CONSOLE_QT_MODAL_ANSWERER_H

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace dravik::console::testing {

struct SeenMessage {
    QString text;
    QString caption;
    QMessageBox::Icon icon;
    int buttons;            // number of buttons the box offers
    bool owner_visible;     // was the main dialog visible while the box was open?
};

class ModalAnswerer {
public:
    // `owner`: the main dialog, whose visibility is noted for every message.
    explicit ModalAnswerer(QWidget* owner) : owner_(owner) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }

    // The next parameter dialog gets these fields (empty optional: it is cancelled).
    void fill_parameters(std::optional<std::vector<QString>> fields) { parameter_replies_.push_back(std::move(fields)); }

    // Called with every dialog just before it is answered (for example to photograph it).
    std::function<void(QWidget*)> before_answer;

    std::vector<SeenMessage> messages;
    std::vector<std::vector<QString>> parameter_presets; // what each parameter dialog showed
    std::vector<QString> about_texts;

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        if (before_answer) before_answer(modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back({box->text(), box->windowTitle(), box->icon(),
                                static_cast<int>(box->buttons().size()), owner_ && owner_->isVisible()});
            box->button(QMessageBox::Ok)->click();
        } else if (modal->objectName() == QLatin1String("parameterDialog")) {
            std::vector<QString> preset;
            for (int i = 1; i <= 7; ++i)
                preset.push_back(modal->findChild<QLineEdit*>(QStringLiteral("field%1").arg(i))->text());
            parameter_presets.push_back(preset);
            std::optional<std::vector<QString>> reply;
            if (!parameter_replies_.empty()) {
                reply = parameter_replies_.front();
                parameter_replies_.pop_front();
            }
            if (reply) {
                for (int i = 1; i <= 7; ++i) {
                    auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("field%1").arg(i));
                    edit->setText(static_cast<std::size_t>(i - 1) < reply->size() ? (*reply)[static_cast<std::size_t>(i - 1)] : QString());
                }
                modal->findChild<QPushButton*>(QStringLiteral("confirmButton"))->click();
            } else {
                modal->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            }
        } else if (modal->objectName() == QLatin1String("aboutBox")) {
            about_texts.push_back(modal->findChild<QLabel*>(QStringLiteral("boardInfo"))->text());
            modal->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        }
    }

    QWidget* owner_;
    QTimer timer_;
    std::deque<std::optional<std::vector<QString>>> parameter_replies_;
};

} // namespace dravik::console::testing

#endif
