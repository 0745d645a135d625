#pragma once

// Pins the families that documents name to the metric-compatible fonts that ship with the
// project's dependencies, so text measures the same on every machine whatever else is
// installed: Arial/Helvetica -> Liberation Sans, Times/Times New Roman -> Liberation Serif,
// Courier/Courier New -> Liberation Mono.
class PLFontSubstitutions {
public:
    // Safe to call more than once; needs a QGuiApplication.
    static void install();
};
