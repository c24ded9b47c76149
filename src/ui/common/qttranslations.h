#pragma once

namespace quendra::ui {

// Qt's own texts (the file dialog, the standard buttons of a box, a text field's context
// menu) in German like the rest of the program, whatever the user's locale: loads Qt's
// German translations (Debian package qt6-translations-l10n) into the application.
// Returns false when they are not installed; Qt's texts then stay English. Call once,
// after the application object exists.
bool installQtTranslations();

} // namespace quendra::ui
