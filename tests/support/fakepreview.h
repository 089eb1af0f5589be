// A page view for tests that shows nothing and writes down what it was asked
// to do, so that the preview's decisions can be checked without a browser.
#pragma once

#include "preview/ui/previewengine.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

struct CPreviewLog
{
    // "navigate PATH", "navigate-keep PATH", "refresh", "stop", "created", "destroyed".
    std::vector<std::string> aCalls;
    int nAlive = 0;
    // What the engines say they are ("textbrowser" plays the simple viewer).
    const char *pszKind = "fake";

    std::string Last() const { return aCalls.empty() ? std::string() : aCalls.back(); }
};

class CFakePreviewEngine : public CPreviewEngine
{
public:
    CFakePreviewEngine(QWidget *pParent, std::shared_ptr<CPreviewLog> pLog)
        : m_pWidget(new QWidget(pParent)), m_pLog(std::move(pLog))
    {
        m_pWidget->setObjectName(QStringLiteral("fakePreview"));
        ++m_pLog->nAlive;
        m_pLog->aCalls.push_back("created");
    }
    ~CFakePreviewEngine() override
    {
        --m_pLog->nAlive;
        m_pLog->aCalls.push_back("destroyed");
        delete m_pWidget;
    }
    QWidget *GetWidget() override { return m_pWidget; }
    void Navigate(const QString &strPath, bool bKeepScroll) override
    {
        m_pLog->aCalls.push_back((bKeepScroll ? "navigate-keep " : "navigate ") + strPath.toStdString());
    }
    void NavigateToAnchor(const QString &strPath, const QString &strAnchor) override
    {
        m_pLog->aCalls.push_back("navigate " + strPath.toStdString() + "#" + strAnchor.toStdString());
    }
    void Refresh() override { m_pLog->aCalls.push_back("refresh"); }
    void Stop() override { m_pLog->aCalls.push_back("stop"); }
    void SetLoadFinishedHandler(std::function<void(bool)>) override {}
    const char *GetKind() const override { return m_pLog->pszKind; }

private:
    QWidget *m_pWidget;
    std::shared_ptr<CPreviewLog> m_pLog;
};

// Installs the fake for the lifetime of the object.
class CFakePreviewScope
{
public:
    CFakePreviewScope() : m_pLog(std::make_shared<CPreviewLog>())
    {
        SetPreviewEngineFactory([pLog = m_pLog](QWidget *pParent) -> std::unique_ptr<CPreviewEngine> {
            return std::make_unique<CFakePreviewEngine>(pParent, pLog);
        });
    }
    ~CFakePreviewScope() { SetPreviewEngineFactory(nullptr); }
    CFakePreviewScope(const CFakePreviewScope &) = delete;
    CFakePreviewScope &operator=(const CFakePreviewScope &) = delete;

    CPreviewLog &Log() { return *m_pLog; }

private:
    std::shared_ptr<CPreviewLog> m_pLog;
};
