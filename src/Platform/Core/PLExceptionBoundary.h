#pragma once

#include <QObject>
#include <QString>

#include <concepts>
#include <functional>
#include <type_traits>
#include <utility>

// No exception may unwind through Qt's frames: the distribution's Qt libraries are built
// without exception tables, so Qt's own cleanup would be skipped. Every place where Qt calls
// into our code (event handlers, paint, timers, slots and lambdas connected to signals,
// deferred actions, undo closures) runs inside a boundary that catches every exception, logs
// it ("<where>: <what>"), tells the listener and abandons that piece of work, so that the
// program and the document stay alive.
//
// - An event handler or other virtual that Qt calls is a function-try-block:
//       void IXMapView::paintEvent(QPaintEvent* event)
//       try {
//           ...
//       } catch (...) {
//           PLExceptionBoundary::caught();
//       }
//   (a handler that returns a value returns its "not handled" value after caught()).
// - A slot or lambda connected to a signal goes through PLExceptionBoundary::connect, a
//   functor given to Qt otherwise (QTimer::singleShot) through PLExceptionBoundary::guard.
// - Work run on the spot: PLExceptionBoundary::run.
// Where a boundary stands: the calling function's name, file and line, taken by default
// arguments (clang 14 with GCC's library lacks std::source_location).
struct PLSourceLocation {
    const char* file = "";
    const char* function = "";
    unsigned line = 0;

    static constexpr PLSourceLocation current(const char* file = __builtin_FILE(),
                                              const char* function = __builtin_FUNCTION(),
                                              unsigned line = __builtin_LINE())
    {
        return {file, function, line};
    }
};

class PLExceptionBoundary {
public:
    // Told of every exception a boundary caught, on the thread that caught it. Set once at
    // start-up (tests fail on it); none by default.
    using Listener = void (*)(const QString& where, const QString& what);
    static void setListener(Listener listener);

    // True when the work ran to its end; false when it threw (logged, abandoned).
    static bool run(const QString& where, const std::function<void()>& work);

    // Only inside a catch handler: logs and reports the exception being handled. The place
    // defaults to the calling function.
    static void caught(const QString& where);
    static void caught(PLSourceLocation location = PLSourceLocation::current());

    // A functor that runs `function` inside a boundary, taking the arguments it can take (so
    // Qt connects it to a signal as it would the function itself).
    template <typename Function>
    class Guarded {
    public:
        Guarded(Function function, PLSourceLocation location)
            : m_function(std::move(function)), m_location(location)
        {
        }

        template <typename... Arguments>
            requires std::invocable<Function&, Arguments...>
        void operator()(Arguments&&... arguments)
        {
            try {
                std::invoke(m_function, std::forward<Arguments>(arguments)...);
            } catch (...) {
                caught(m_location);
            }
        }

    private:
        Function m_function;
        PLSourceLocation m_location;
    };

    template <typename Function>
    static Guarded<std::decay_t<Function>> guard(Function&& function,
                                                 PLSourceLocation location = PLSourceLocation::current())
    {
        return {std::forward<Function>(function), location};
    }

    // QObject::connect with the slot (a member function of `context` or a functor) inside a
    // boundary named after the place of the connect.
    // (The sender is taken as given, so that a QPointer converts as it does for Qt.)
    template <typename Sender, typename Signal, typename Context, typename Slot>
    static QMetaObject::Connection connect(const Sender& sender, Signal signal, Context* context, Slot&& slot,
                                           Qt::ConnectionType type = Qt::AutoConnection,
                                           PLSourceLocation location = PLSourceLocation::current())
    {
        if constexpr (std::is_member_function_pointer_v<std::decay_t<Slot>>) {
            auto call = [context, slot]<typename... Arguments>(Arguments&&... arguments)
                requires std::invocable<Slot, Context*, Arguments...>
            { std::invoke(slot, context, std::forward<Arguments>(arguments)...); };
            return QObject::connect(sender, signal, context, guard(std::move(call), location), type);
        } else {
            return QObject::connect(sender, signal, context, guard(std::forward<Slot>(slot), location), type);
        }
    }
};
