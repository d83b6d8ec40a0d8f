#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace lumo {

// A non-owning reference to something callable, for callbacks that run before the call that
// takes them returns. Unlike std::function it never allocates, which matters once per packet.
template <typename Signature> class FunctionRef;

template <typename R, typename... Args> class FunctionRef<R(Args...)>
{
public:
    template <typename F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, FunctionRef> && std::is_invocable_r_v<R, F &, Args...>)
        FunctionRef(F &&f) // NOLINT: converts implicitly, like std::function
        : m_object(const_cast<void *>(static_cast<const void *>(std::addressof(f)))),
          m_call([](void *object, Args... args) -> R {
              return (*static_cast<std::remove_reference_t<F> *>(object))(std::forward<Args>(args)...);
          })
    {}

    R operator()(Args... args) const { return m_call(m_object, std::forward<Args>(args)...); }

private:
    void *m_object;
    R (*m_call)(void *, Args...);
};

} // namespace lumo
