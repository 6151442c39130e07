#pragma once

#include <QString>
#include <QtGlobal>

#include <signal.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qmz {

// Watches Qt open its platform, from its own making until PlatformOpened(): made just before
// QApplication, ended just after it. Qt makes its own choice of platform and display; when it can
// open none of those it tries, the check prints one line that names their displays and the
// variables they come from, and ends the program with status 1, where Qt would abort and send the
// user to reinstall. A display that does not answer (an X server or a compositor that takes no
// more clients) ends it so after 30 seconds, where Qt would wait for ever. What Qt says meanwhile
// is held back, and handed on to Qt's own handler once the platform is open.
class DisplayCheck {
public:
    // platformAsked: the user named the platform on qmz's command line; Qt made no choice of its own.
    explicit DisplayCheck(bool platformAsked);
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    // Qt's platform is open: ends the watch and hands on what Qt said.
    void PlatformOpened();

private:
    struct HeldMessage {
        QtMsgType type;
        const char* file;
        int line;
        const char* function;
        const char* category;
        QString text;
    };

    static void Hear(QtMsgType type, const QMessageLogContext& context, const QString& text);
    // The displays of the platforms Qt could not open, joined for the message.
    std::string Unopened() const;

    bool platformAsked_;
    QtMessageHandler qtHandler_ = nullptr;
    struct sigaction alarmAction_ {};
    sigset_t signalMask_{};
    std::mutex mutex_;
    std::vector<HeldMessage> held_;        // under mutex_
    std::vector<std::string> unopened_;    // the platforms Qt could not open, under mutex_
    std::optional<std::string> xDisplay_;  // the X display as Qt names it, under mutex_
};

}  // namespace qmz
