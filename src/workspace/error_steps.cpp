#include "workspace/error_steps.h"

#include "data/module_phonebook.h"
#include "platform/prompts.h"
#include "workspace/module_services.h"

#include <new>

namespace pb {

namespace {

ErrorAnswer toAnswer(int a) {
    if (a == mb::Retry) return ErrorAnswer::Retry;
    if (a == mb::Ignore) return ErrorAnswer::Ignore;
    return ErrorAnswer::Abort;
}

ErrorAnswer ask(const QString& message, const QString& title) {
    const int a = MsgBox(message, mb::AbortRetryIgnore | mb::Critical, title);
    pbm().LastErrorAnswer = QString::number(a == mb::Retry || a == mb::Ignore ? a : mb::Abort);
    return toAnswer(a);
}

} // namespace

ErrorAnswer standardErrorDialog(const VbError& e) {
    const QString message = ErrHelp().DescribeError(e.number());
    return ask(message,
               QStringLiteral("ERROR") + QString::number(e.number()) + QLatin1Char(' ') + e.description());
}

ErrorAnswer describedErrorDialog(const VbError& e) {
    return ask(e.description(),
               QStringLiteral("ERROR") + QString::number(e.number()) + QLatin1Char(' ') + e.description());
}

ErrorAnswer secondFormErrorDialog(const VbError& e) {
    return ask(QString::number(e.number()) + QLatin1Char(' ') + e.description(),
               QStringLiteral("ERROR: ") + QLatin1Char(' ') + e.description());
}

VbError asVbError(std::exception_ptr p) {
    try {
        std::rethrow_exception(p);
    } catch (const VbError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return VbError(err::OutOfMemory);
    } catch (const std::exception& e) {
        return VbError(51, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return VbError(51, QStringLiteral("Internal error"));
    }
}

Steps::Steps(OnError mode) {
    switch (mode) {
    case OnError::Ignore:
        m_handler = [](const VbError&) { return ErrorAnswer::Ignore; };
        break;
    case OnError::LeaveSilently:
        m_handler = [](const VbError&) { return ErrorAnswer::Abort; };
        break;
    case OnError::Standard:
        m_handler = standardErrorDialog;
        break;
    case OnError::StandardNoIgnore:
        m_handler = [](const VbError& e) {
            const ErrorAnswer a = standardErrorDialog(e);
            return a == ErrorAnswer::Retry ? a : ErrorAnswer::Abort;
        };
        break;
    case OnError::StandardCancelRule:
        m_handler = [](const VbError& e) {
            if (ErrHelp().DescribeError(e.number()) == QLatin1String("Operation Cancelled"))
                return ErrorAnswer::Abort;
            return standardErrorDialog(e);
        };
        break;
    }
}

bool Steps::operator()(const std::function<void()>& step) {
    if (m_left) return false;
    for (;;) {
        try {
            step();
            return true;
        } catch (...) {
            const VbError e = asVbError(std::current_exception());
            switch (m_handler(e)) {
            case ErrorAnswer::Retry:
                continue;
            case ErrorAnswer::Ignore:
                return true;
            case ErrorAnswer::Abort:
                m_left = true;
                return false;
            }
        }
    }
}

} // namespace pb
