#pragma once
// The external-folder form (Toutdirform) apart from the tree: its two modes, the browse
// button and the checks every press of OK makes before a library is registered.

#include "core/Dialogs.h"
#include "core/Session.h"
#include "external/ExternalLibraries.h"

#include <optional>

namespace external {

class FolderForm
{
public:
    enum class Mode
    {
        Add,
        Redefine
    };

    FolderForm(const core::Session& session, const ExternalLibraries& libraries,
               core::Dialogs& dialogs);

    // The form as it opens: empty in add mode, the library's name (fixed) and folder when
    // redefining. The inputs take the external tree's background colour.
    static core::FolderFormSpec spec(Mode mode, const QString& name, const QString& folder,
                                     int backColor);

    // SpeedButton1Click: the folder browser; the chosen folder with its final "/", or the
    // folder shown when the browser is cancelled.
    QString SpeedButton1Click(const QString& shown);

    // The checks of OK in their order, each refusal shown as a warning: what the form does
    // then, or nothing when the library may be registered.
    std::optional<core::OkResult> refusal(const QString& name, const QString& folder);

private:
    void warn(const QString& text);

    const core::Session& m_session;
    const ExternalLibraries& m_libraries;
    core::Dialogs& m_dialogs;
};

} // namespace external
