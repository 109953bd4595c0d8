// Runs the port probe on a worker thread, so the settings dialog stays responsive meanwhile.
#pragma once

#include <QObject>
#include <QThread>
#include <stop_token>
#include <string>
#include <vector>

#include "link/port_probe.h"

namespace nlx::app {

class ProbeRunner final : public QObject {
    Q_OBJECT
public:
    explicit ProbeRunner(QObject* parent = nullptr);
    ~ProbeRunner() override;  // stops a running probe and waits for it

    // Starts probing `devices` at `baud`, in order, until one answers; false when a probe is
    // running already.
    bool start(std::vector<std::string> devices, int baud);
    bool running() const { return thread_ != nullptr; }
    // The report of the last probe that ended.
    const link::ProbeReport& report() const { return report_; }

signals:
    void finished();

private:
    void ended();

    QThread* thread_ = nullptr;
    std::stop_source stop_;
    link::ProbeReport worker_report_;  // written by the worker only
    link::ProbeReport report_;
};

}  // namespace nlx::app
