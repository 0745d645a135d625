#pragma once

#include <QByteArray>

#include <string_view>

// A command of the action routing, named by its selector text ("zoomIn:"): a responder
// implements it as an invokable taking the sender. The program names commands only through
// the constants below, so a misspelt command does not compile; a new one is made explicitly
// from a literal that takes one argument (one colon, at the end).
class IXCommand {
public:
    consteval explicit IXCommand(const char* selector) : m_selector(selector)
    {
        const std::string_view text(selector);
        // Not a constant expression, so a selector of another shape stops the compilation.
        if (text.size() < 2 || text.find(':') != text.size() - 1) throw "one argument: a single colon at the end";
    }

    constexpr const char* selector() const { return m_selector; }
    QByteArray toByteArray() const { return QByteArray(m_selector); }
    // Whether an item's action (IXActionItem::actionOf) is this command.
    friend bool operator==(const QByteArray& action, const IXCommand& command) { return action == command.m_selector; }

private:
    const char* m_selector;
};

namespace IXCommands {
// File
inline constexpr IXCommand NewDocument{"newDocument:"};
inline constexpr IXCommand NewFromTemplate {"newFromTemplate:"};
inline constexpr IXCommand SaveDocumentAsTemplate {"saveDocumentAsTemplate:"};
inline constexpr IXCommand OpenDocument{"openDocument:"};
inline constexpr IXCommand PerformClose{"performClose:"};
inline constexpr IXCommand SaveDocument{"saveDocument:"};
inline constexpr IXCommand SaveDocumentAs{"saveDocumentAs:"};
inline constexpr IXCommand RevertDocumentToSaved{"revertDocumentToSaved:"};
inline constexpr IXCommand PrintDocument {"printDocument:"};
inline constexpr IXCommand ExportAsPDF {"exportAsPDF:"};
inline constexpr IXCommand ShowPreferences{"showPreferences:"};
inline constexpr IXCommand Terminate{"terminate:"};
// Edit
inline constexpr IXCommand Undo{"undo:"};
inline constexpr IXCommand Redo{"redo:"};
inline constexpr IXCommand Cut{"cut:"};
inline constexpr IXCommand Copy{"copy:"};
inline constexpr IXCommand Paste{"paste:"};
inline constexpr IXCommand SelectAll{"selectAll:"};
// Map
inline constexpr IXCommand AddBranch{"addBranch:"};
inline constexpr IXCommand AddPrebranch{"addPrebranch:"};
inline constexpr IXCommand RemoveSelectedNodes{"removeSelectedNodes:"};
inline constexpr IXCommand Expand{"expand:"};
inline constexpr IXCommand Collapse{"collapse:"};
inline constexpr IXCommand AutolayoutBranches{"autolayoutBranches:"};
inline constexpr IXCommand BrainStorm{"brainStorm:"};
// Node commands of the document window
inline constexpr IXCommand AddSubbranch {"addSubbranch:"};
inline constexpr IXCommand RemoveBranch {"removeBranch:"};
inline constexpr IXCommand RemoveBranchSection {"removeBranchSection:"};
inline constexpr IXCommand RemoveFloating {"removeFloating:"};
inline constexpr IXCommand RemoveComment {"removeComment:"};
inline constexpr IXCommand RemovePicture {"removePicture:"};
inline constexpr IXCommand RemoveIcon {"removeIcon:"};
inline constexpr IXCommand DetachBranch {"detachBranch:"};
inline constexpr IXCommand DetachPicture {"detachPicture:"};
inline constexpr IXCommand DetachFloatingNode {"detachFloatingNode:"};
inline constexpr IXCommand AddComment {"addComment:"};
inline constexpr IXCommand AddFloatingComment {"addFloatingComment:"};
inline constexpr IXCommand AddPicture {"addPicture:"};
inline constexpr IXCommand ToggleCollapser {"toggleCollapser:"};
inline constexpr IXCommand EditTitle {"editTitle:"};
inline constexpr IXCommand EditTextNote {"editTextNote:"};
inline constexpr IXCommand ToggleTextEditor {"toggleTextEditor:"};
inline constexpr IXCommand ToggleOverview {"toggleOverview:"};
inline constexpr IXCommand OrderFrontFontPanel {"orderFrontFontPanel:"};
inline constexpr IXCommand MakeBranchConnection {"makeBranchConnection:"};
inline constexpr IXCommand AttachHyperlink {"attachHyperlink:"};
inline constexpr IXCommand AttachTextFile {"attachTextFile:"};
inline constexpr IXCommand AttachPictureFile {"attachPictureFile:"};
inline constexpr IXCommand AttachVideoFile {"attachVideoFile:"};
inline constexpr IXCommand AttachSoundFile {"attachSoundFile:"};
inline constexpr IXCommand AttachFlashFile {"attachFlashFile:"};
// Context menus: filter, styles, spelling
inline constexpr IXCommand ToggleFilter {"toggleFilter:"};
inline constexpr IXCommand DetachBranchAsDocument {"detachBranchAsDocument:"};
inline constexpr IXCommand CopyStyles {"copyStyles:"};
inline constexpr IXCommand PasteStyles {"pasteStyles:"};
inline constexpr IXCommand PasteWithoutStyles {"pasteWithoutStyles:"};
inline constexpr IXCommand ClearStyles {"clearStyles:"};
inline constexpr IXCommand CorrectSpelling {"correctSpelling:"};
inline constexpr IXCommand IgnoreSpelling {"ignoreSpelling:"};
// Answered by nothing: an item that only informs ("No Guesses Found") shows disabled.
inline constexpr IXCommand InvalidSpelling {"invalidSpelling:"};
// Edit: find and spelling
inline constexpr IXCommand IxFindPanelAction {"ixFindPanelAction:"};
inline constexpr IXCommand CheckSpelling {"checkSpelling:"};
inline constexpr IXCommand ShowGuessPanel {"showGuessPanel:"};
inline constexpr IXCommand ToggleContinuousSpellChecking {"toggleContinuousSpellChecking:"};
// View
inline constexpr IXCommand SwitchToView{"switchToView:"};
inline constexpr IXCommand TogglePrintView {"togglePrintView:"};
inline constexpr IXCommand ZoomIn{"zoomIn:"};
inline constexpr IXCommand ZoomOut{"zoomOut:"};
inline constexpr IXCommand ActualSize{"actualSize:"};
inline constexpr IXCommand ScaleToFit{"scaleToFit:"};
inline constexpr IXCommand ToggleFullScreenMode{"toggleFullScreenMode:"};
inline constexpr IXCommand ShowDocumentWarnings {"showDocumentWarnings:"};
inline constexpr IXCommand ShowAdditionalFoldersPanel {"showAdditionalFoldersPanel:"};
inline constexpr IXCommand FitToScreen {"fitToScreen:"};
inline constexpr IXCommand ChangeLevel {"changeLevel:"};
inline constexpr IXCommand ToggleBrainStorm {"toggleBrainStorm:"};
inline constexpr IXCommand ToggleInspector {"toggleInspector:"};
inline constexpr IXCommand ToggleInspectorPanels {"toggleInspectorPanels:"};
inline constexpr IXCommand ResetInspectors {"resetInspectors:"};
inline constexpr IXCommand ToggleMedia {"toggleMedia:"};
// Format: shapes and styles of the whole map
inline constexpr IXCommand SwitchRootShape {"switchRootShape:"};
inline constexpr IXCommand SwitchDocumentStyle {"switchDocumentStyle:"};
inline constexpr IXCommand ClearAllStyles {"clearAllStyles:"};
// File: export and templates
inline constexpr IXCommand Export {"export:"};
inline constexpr IXCommand QuickExport {"quickExport:"};
inline constexpr IXCommand PackAndGo {"packAndGo:"};
inline constexpr IXCommand SaveAsTemplate {"saveAsTemplate:"};
// Help
inline constexpr IXCommand HelpForItem{"helpForItem:"};
inline constexpr IXCommand HelpByTagFor{"helpByTagFor:"};
inline constexpr IXCommand GotoOnlineSupport{"gotoOnlineSupport:"};
inline constexpr IXCommand GotoHomePage{"gotoHomePage:"};
inline constexpr IXCommand CheckAvailaibleUpdate {"checkAvailaibleUpdate:"};
// The document window's toolbar
inline constexpr IXCommand ToggleToolbarShown {"toggleToolbarShown:"};
inline constexpr IXCommand RunToolbarCustomizationPalette {"runToolbarCustomizationPalette:"};
inline constexpr IXCommand OrderFrontColorPanel {"orderFrontColorPanel:"};
}  // namespace IXCommands
