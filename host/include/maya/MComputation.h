// MComputation: how a plug-in tells the host that a long computation is under way and how far it has
// come. The host keeps the latest range and value where the application can read them from any
// thread (gxhost::computationProgress) to show a progress line; it draws no window of its own.
//
//   MComputation computation;  computation.beginComputation();  computation.setProgressRange(0, n);
//   ... computation.setProgress(i); ...  computation.endComputation();
#pragma once

class MComputation {
public:
    MComputation() = default;
    ~MComputation(); // ends the computation if it is still under way
    MComputation(const MComputation&) = delete;
    MComputation& operator=(const MComputation&) = delete;

    void beginComputation(bool showProgressBar = false, bool isInterruptable = false,
                          bool useWaitCursor = true);
    void setProgressRange(const int minValue, const int maxValue);
    void setProgress(const int value);
    int progress() const;
    int progressMin() const;
    int progressMax() const;
    // The host never asks a computation to stop.
    bool isInterruptRequested() { return false; }
    void endComputation();

private:
    bool begun_ = false;
};
