#include "platform/critical_section.h"

#include <pthread.h>

#include <new>

namespace xoltlog::platform {
namespace {

static_assert(sizeof(pthread_mutex_t) <= sizeof(XoltLogCriticalSection));
static_assert(alignof(pthread_mutex_t) <= alignof(XoltLogCriticalSection));

pthread_mutex_t* mutex_in(XoltLogCriticalSection& storage) noexcept {
  return std::launder(reinterpret_cast<pthread_mutex_t*>(storage.opaque));
}

}  // namespace

bool critical_section_init(XoltLogCriticalSection& storage) noexcept {
  pthread_mutexattr_t attributes;
  if (pthread_mutexattr_init(&attributes) != 0) {
    return false;
  }
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  auto* mutex = new (storage.opaque) pthread_mutex_t;
  const bool created = pthread_mutex_init(mutex, &attributes) == 0;
  pthread_mutexattr_destroy(&attributes);
  return created;
}

void critical_section_enter(XoltLogCriticalSection& storage) noexcept {
  pthread_mutex_lock(mutex_in(storage));
}

void critical_section_leave(XoltLogCriticalSection& storage) noexcept {
  pthread_mutex_unlock(mutex_in(storage));
}

void critical_section_destroy(XoltLogCriticalSection& storage) noexcept {
  pthread_mutex_destroy(mutex_in(storage));
}

}  // namespace xoltlog::platform
