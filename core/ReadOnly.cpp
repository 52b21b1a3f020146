#include "core/ReadOnly.h"

#include "core/Texts.h"

namespace core {

bool refuseWhenReadOnly(const Session& session, Dialogs& dialogs)
{
    if (session.writable())
        return false;
    dialogs.ask(texts::ReadOnlyCaption, texts::ReadOnlyRefusal, MessageIcon::Warning, Buttons::Ok,
                Answer::Ok);
    return true;
}

} // namespace core
