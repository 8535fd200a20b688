// The error box: how a failure that escapes a command, a button handler or a paint of the
// windows reaches the user. Floating-point faults of the analysis and the plotter arrive
// here, and so does any other exception; the failing command is abandoned where the failure
// arose and the program goes on.
#pragma once

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <set>
#include <string_view>

namespace corvane::ui {

/// The text shown for a failure message: a full stop is appended when the message's last
/// character comes after '.' in the character set (letters and digits do); a message
/// ending in '.', '!', ')' or a blank is shown unchanged.
QString errorBoxText(std::string_view message);

/// Shows a modal message box with an error icon, the title, the text and one button.
void showCriticalBox(const QString& title, const QString& text);

class ErrorBox {
public:
    /// Shows one box; replaced by tests, which record the texts instead.
    using Presenter = std::function<void(const QString& title, const QString& text)>;

    ErrorBox();
    ErrorBox(const ErrorBox&) = delete;
    ErrorBox& operator=(const ErrorBox&) = delete;

    void setPresenter(Presenter presenter) { presenter_ = std::move(presenter); }

    /// Shows the box for `message`, titled with the application title, once control is
    /// back in the event loop: never from inside the command or paint that failed. A box
    /// with the same text that is waiting or open is not shown a second time.
    void report(std::string_view message);

    /// Runs one command. This is the one place where a failure escaping a command of the
    /// windows is caught: it never unwinds through the toolkit's frames.
    template <class Command>
    void run(Command&& command) noexcept {
        try {
            std::forward<Command>(command)();
        } catch (const std::exception& failure) {
            report(failure.what());
        } catch (...) {
            report(UnknownFailure);
        }
    }

    /// Wraps a handler of the windows so that a failure escaping it is shown in the box and
    /// the program goes on. Every command, button handler and paint goes through it.
    template <class Handler>
    auto command(Handler handler) {
        return [this, handler] { run(handler); };
    }

    static constexpr std::string_view UnknownFailure = "Falha desconhecida";

private:
    void present(const QString& text);

    Presenter presenter_;
    std::set<QString> waitingOrOpen_;
    // Owns the queued calls, so that none runs after the box is gone.
    QObject context_;
};

}  // namespace corvane::ui
