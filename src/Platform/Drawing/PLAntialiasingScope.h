#pragma once

class PLGraphicsContext;

// Sets a context's antialiasing for the scope's lifetime and puts back the value it found,
// for crisp thin strokes in the middle of antialiased drawing. The context must outlive
// the scope.
class PLAntialiasingScope {
public:
    PLAntialiasingScope(PLGraphicsContext& context, bool antialias);
    ~PLAntialiasingScope();
    PLAntialiasingScope(const PLAntialiasingScope&) = delete;
    PLAntialiasingScope& operator=(const PLAntialiasingScope&) = delete;

    // The value in force before the scope began.
    bool previous() const { return m_previous; }

private:
    PLGraphicsContext& m_context;
    bool m_previous;
};
