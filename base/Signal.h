#pragma once
// An event any number of listeners may hear. connect() hands back a
// Subscription that disconnects when it goes, so a listener cannot outlive
// its registration by accident, and a second listener never replaces the
// first. Either side may be destroyed first. Single-threaded: emit and
// connect on the thread that owns the object raising the event.
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <utility>

namespace wc {

class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
  ~Subscription() { reset(); }
  Subscription(Subscription&& other) noexcept : disconnect_(std::exchange(other.disconnect_, nullptr)) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      disconnect_ = std::exchange(other.disconnect_, nullptr);
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;

  // Stops listening now.
  void reset() {
    if (auto disconnect = std::exchange(disconnect_, nullptr)) disconnect();
  }

 private:
  std::function<void()> disconnect_;
};

template <class... Args>
class Signal {
 public:
  Signal() = default;
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;

  // Listeners hear the event in the order they connected. One connected
  // while the event is being told hears it too; one disconnected meanwhile
  // hears nothing more.
  [[nodiscard]] Subscription connect(std::function<void(Args...)> listener) {
    const uint64_t id = ++state_->lastId;
    state_->listeners.push_back({id, std::move(listener)});
    return Subscription([weak = std::weak_ptr<State>(state_), id] {
      if (const auto state = weak.lock()) state->disconnect(id);
    });
  }

  void operator()(Args... args) const {
    // Held for the whole call: a listener may destroy the owner.
    const std::shared_ptr<State> state = state_;
    Emitting emitting(*state);
    for (Listener& slot : state->listeners)
      if (slot.listener) slot.listener(args...);
  }

  bool empty() const {
    for (const Listener& slot : state_->listeners)
      if (slot.listener) return false;
    return true;
  }

 private:
  struct Listener {
    uint64_t id;
    std::function<void(Args...)> listener;
  };
  struct State {
    std::list<Listener> listeners;  // a list: connecting while emitting moves no slot
    uint64_t lastId = 0;
    int emitting = 0;

    void disconnect(uint64_t id) {
      for (auto it = listeners.begin(); it != listeners.end(); ++it) {
        if (it->id != id) continue;
        // The slot being called must stay where the loop stands.
        if (emitting > 0)
          it->listener = nullptr;
        else
          listeners.erase(it);
        return;
      }
    }
  };
  class Emitting {
   public:
    explicit Emitting(State& state) : state_(state) { ++state_.emitting; }
    ~Emitting() {
      if (--state_.emitting == 0) state_.listeners.remove_if([](const Listener& s) { return !s.listener; });
    }
    Emitting(const Emitting&) = delete;
    Emitting& operator=(const Emitting&) = delete;

   private:
    State& state_;
  };

  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace wc
