#pragma once
// The work of the copy page that belongs to later parts of the installer:
// dependencies, cleaning and migration of an earlier installation, the
// default library and settings, Winamp plug-ins, packages, the driver and the
// services. The page calls each at its place in the step chain; the default
// implementations do nothing yet. Tests derive from it to see the order in
// which the page asks for the work.

#include "VLString.h"

class CCopyAndInstallPpg;

// Runs the dependencies of the first step and keeps their cancelled flag,
// which the page's cancel sets while a setup file is being downloaded.
class CDependencyRunner {
public:
    void SetCancelled() { m_cancelled = true; }
    bool IsCancelled() const { return m_cancelled; }

private:
    bool m_cancelled = false;
};

class CInstallSteps {
public:
    virtual ~CInstallSteps() = default;

    // Step 0: installs missing dependencies. False when a download was
    // cancelled: the chain then stops while the wizard closes.
    virtual bool InstallDependencies(CCopyAndInstallPpg& page, CDependencyRunner& runner) { return true; }
    // Copy step: obsolete files and settings of earlier versions.
    virtual void CleanInstallationFolder(CCopyAndInstallPpg& page) {}
    // Copy step: the default library and settings folders.
    virtual void PrepareLibraryAndSettings(CCopyAndInstallPpg& page) {}
    // Copy step: settings and libraries of the previous major version.
    virtual void MigratePreviousVersion(CCopyAndInstallPpg& page) {}
    // Copy step: a registered "in_*" file is also a Winamp input plug-in.
    virtual void InstallWinampPlugin(CCopyAndInstallPpg& page, const VLString& path) {}
    // Step 2: plug-ins, packages, the audio driver and the services.
    virtual void InstallPluginsAndServices(CCopyAndInstallPpg& page) {}
};
