#pragma once
// What the JPEG export shows while it runs: the waiting window with "n / N".
// An interface so the export logic runs in tests without a window.
namespace vexa {

class WaitWindow;

class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual void begin() = 0;
    virtual void advance(int done, int total) = 0;
    virtual void end() = 0;
};

// The waiting window WaitWindow (shown with its resting message, closed at
// the end) for an export run on the user-interface thread; the program runs
// its exports on a worker behind RunInBackground instead.
class WaitWindowProgress : public ExportProgress {
public:
    WaitWindowProgress();
    ~WaitWindowProgress() override;
    void begin() override;
    void advance(int done, int total) override;
    void end() override;

private:
    WaitWindow* window_;
};

} // namespace vexa
