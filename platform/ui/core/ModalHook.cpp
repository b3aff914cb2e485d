#include "platform/ui/core/ModalHook.h"

namespace platform {
namespace {

IModalHook* g_hook = nullptr;  // UI thread only

}  // namespace

IModalHook* CurrentModalHook()
{
    return g_hook;
}

ScopedModalHook::ScopedModalHook(IModalHook& hook) : m_previous(g_hook)
{
    g_hook = &hook;
}

ScopedModalHook::~ScopedModalHook()
{
    g_hook = m_previous;
}

}  // namespace platform
