#pragma once

// Layout contexts for tool tests: contexts without a layout over a fake window controller whose
// document records the editors registered with it. Contexts are invalidated at the end.

#include "DocumentModel/IXFakeServices.h"
#include "MapLayout/IXLayoutContext.h"

#include <memory>
#include <vector>

class TestContexts {
public:
    class Controller : public FakeWindowController {
    public:
        IXOpenDocument* openDocument = nullptr;
        IXOpenDocument* document() const override { return openDocument; }
    };

    explicit TestContexts(int count = 4)
    {
        controller.openDocument = &document;
        for (int i = 0; i < count; ++i) contexts.push_back(std::make_unique<IXLayoutContext>(&controller, nullptr));
    }
    ~TestContexts()
    {
        for (const auto& context : contexts) context->invalidate();
    }

    IXLayoutContext* operator[](int index) const { return contexts[std::size_t(index)].get(); }

    FakeOpenDocument document;
    Controller controller;
    std::vector<std::unique_ptr<IXLayoutContext>> contexts;
};
