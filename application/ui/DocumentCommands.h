// The document's command handlers (level "document" of the command chain): the framework's
// Save and Save As here, and the device flows' commands where they are installed.
#pragma once

class CCorvantEditorApp;

// Puts every document command into the application's document command map.
void InstallDocumentCommands(CCorvantEditorApp& app);
