#include "core/Dialogs.h"

#include "platform/Errors.h"

#include <exception>

namespace core {

void showErrorsOf(Dialogs& dialogs, const std::function<void()>& command)
{
    try {
        command();
    } catch (const platform::UserError& error) {
        dialogs.showError(error.message());
    } catch (const std::exception& error) {
        dialogs.showError(QString::fromLocal8Bit(error.what()));
    }
}

} // namespace core
