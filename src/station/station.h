// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanning station's logic: the Scan window's handlers and the state
// they keep, with no toolkit. The real window (or a test's recorder) is the
// StationView; the scanner is a Scanner whose events come back here.
//
//   operator clicks ----> onPortClicked, onInitializeClicked, ... --+
//   scanner events -----> onSheetRead(response), onNotice(text), ...-+--> HandlerGate
//                                                                          |
//   handler --> StationView (status line, captions, port buttons, boxes, beep, end)
//           --> Scanner (port, setup string, read commands)
//           --> TextFiles (Scan.TXT, Com.TXT, FormsFlag.TXT)
//
// One sheet: onSheetRead(response) waits in the gate with its response, then
// readSheet decodes it (decode::decodeResponse), warns of multiple marks or
// appends the record to Scan.TXT (recordSheet), shows the decoded text and
// asks for the next sheet.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "decode/response_decoder.h"
#include "station/folder_claim.h"
#include "station/handler_gate.h"
#include "station/scanner.h"
#include "station/sheet_accounts.h"
#include "station/station_view.h"
#include "textfile/text_files.h"

namespace scanforms {

class Station : public ScannerEvents {
public:
    Station(StationView& view, Scanner& scanner);
    ~Station() override;
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // The window's events. Each runs its handler once the running one (if
    // any) returned; the handler runs to its end and reports its own
    // failures. After Done, or once the window is gone, nothing runs.
    void onWindowCreated();
    // The window's close box was clicked; the window goes after this.
    void onCloseBoxClicked();
    void onWindowDestroyed();
    // A click on the button already chosen is no port choice.
    void onPortClicked(int index);
    void onInitializeClicked();
    void onStartScanningClicked();
    void onDoneClicked();
    bool ended() const { return ended_; }
    // Records only while `claim` says the folder is this run's; the claim
    // outlives the station.
    void watchFolder(FolderClaim& claim);
    // The claim's refresh found the folder taken.
    void onFolderLost();

    // ScannerEvents: each waits, with what it carries, for its turn.
    bool handlerRunning() const override { return gate_.busy(); }
    void onSheetRead(std::string response) override;
    void onEndOfBatch() override;
    void onInitComplete(std::int16_t result, std::string diagnostic) override;
    void onNotice(std::string text) override;
    void onScanFault(std::string reason) override;

private:
    // The handlers.
    void selectStoredPort();
    void warnOfClosingMidBatch();
    void closeDown();
    void choosePort();
    void initializeScanner();
    void startScanning();
    void finish();
    void readSheet(const std::string& response);
    void finishInitializing(std::int16_t result, const std::string& diagnostic);
    void showNotice(const std::string& text);
    void answerFault();
    void announceEndOfBatch();
    // True once the folder is found to be another's; the first time, closes
    // every file and tells the operator what took it and where the records are.
    bool folderLost();

    // Checks a decoded sheet and appends its record to Scan.TXT when clean.
    void recordSheet(const decode::DecodedSheet& sheet, const std::string& text);
    // Appends the sheet's record; a failure names the sheet.
    void writeRecord(const decode::DecodedSheet& sheet);
    // Keeps Scan.TXT's records in the archive folder, empties Scan.TXT and,
    // when they were this run's, tells the operator where they went.
    void beginRecordFile();
    // Logs what the scanner holds now that `stops` ends the listening, and
    // returns it.
    HeldInput logHeldInput(ListeningStops stops);
    // Logs what the scanner holds, closes the port and, when something was
    // held or on its way, names it in one box.
    void stopScanningNamingHeldInput(ListeningStops stops);
    // Beeps twice and shows the "Warning!" box when `text` has "?" answers;
    // true when it warned.
    bool warnOfMultipleMarks(const std::string& text);

    // Queues `handler` in the gate; once every handler has returned, the
    // scanner may raise what it held back meanwhile.
    void deliver(std::function<void()> handler);

    // What a failure inside a handler does once its box was shown.
    enum class OnFailure { CloseAllFiles, KeepFiles, Silent };
    // Runs `body`; a failure inside it is logged as `action` failing, shows
    // kFailurePrefix and its description, then closes every
    // open file unless told not to. Returns false when the body failed.
    bool trapped(const std::string& action, OnFailure onFailure, const std::function<void()>& body);
    void endProgram();

    StationView& view_;
    Scanner& scanner_;
    textfile::TextFiles files_;
    HandlerGate gate_;

    // The chosen port, 1 to 4; 0 until a port button was chosen. Done saves
    // it, whatever it is.
    std::int16_t chosenPort_ = 0;
    // Set when the port opened, cleared when the scanner was not detected;
    // Start Scanning needs it. A port choice leaves it as it is.
    bool ready_ = false;
    // A record was written in this run: Done leaves FormsFlag.TXT.
    bool recordWritten_ = false;
    // Records this run wrote into Scan.TXT since it last emptied it: when
    // the next batch moves them aside the operator is told.
    std::size_t recordsInScanFile_ = 0;
    bool ended_ = false;
    FolderClaim* folderClaim_ = nullptr;
    // What became of the folder, once it was found to be another's.
    std::optional<std::string> folderTakenBy_;
};

}  // namespace scanforms
