// Fixed store of event nodes, taken when the engine is built so the audio thread never
// allocates. Only the audio thread takes and returns nodes.
#pragma once

#include <cstddef>
#include <memory>

#include "engine/Event.h"

class EventPool {
public:
    void reserve(std::size_t capacity);  // build time only; drops all outstanding nodes

    Event* take();  // null when exhausted
    void give(Event* event);

    std::size_t capacity() const { return capacity_; }
    std::size_t available() const { return available_; }

private:
    std::unique_ptr<Event[]> nodes_;
    Event* free_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t available_ = 0;
};
