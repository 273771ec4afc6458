#pragma once
// Gives every stored member of a package record a value of its own, unlike
// the defaults, so that a member lost on the way shows up in a comparison.

#include <string>

#include "model/CCabObj.h"

namespace pcn::test {

inline void fillEveryMember(CCabObj& p, const std::string& tag = "") {
    p.m_nKind = kKindSelfExtractingWizard;
    p.m_strPackageFile = "/stored/path/Tools" + tag + ".pcp";
    p.m_strCompany = "Tarnwick" + tag;
    p.m_strProduct = "Tools" + tag;
    p.m_strVersion = "1.2.3" + tag;
    p.m_strDescription = "Description" + tag;
    p.m_strComment = "Comment" + tag;
    p.m_strCopyright = "(c) 2026" + tag;
    p.m_strTargetFolder = "/target/" + tag;
    p.m_strProjectName = "TOOLS" + tag;
    p.m_strBuildFolder = "/build/" + tag;
    p.m_arrOutputFiles = {"TOOLS.CAB", "TOOLSW.EXE" + tag};
    p.m_strSourceFolder = "/source/" + tag;
    p.m_bCab = 0;
    p.m_bCabSelf = 0;
    p.m_bCabWiz = 1;
    p.m_bCapSingle = 0;
    p.m_bCreateInf = 0;
    p.m_bIncludeInf = 1;
    p.m_nCabSize = 720000;
    p.m_bSignature = 0;
    p.m_bCompression = 0;
    p.m_bGuid = 1;
    p.m_bMiniSetup = 1;
    p.m_bSubDirs = 1;
    p.m_bText = 1;
    p.m_strText = std::string(300, 'T') + tag;  // needs the three-byte prefix
    p.m_bPassword = 1;
    p.m_strPassword = "secret" + tag;
    p.m_bLicense = 1;
    p.m_strLicenseFile = "/source/licence.txt" + tag;
    p.m_strInstallDir = "%PROGRAMFILES%\\Tools" + tag;
    p.m_strExe = "setup.exe" + tag;
    p.m_strCommandLine = "/quiet" + tag;
    p.m_nShowType = 3;
    p.m_strExeDir = "%DESTDIR%" + tag;
    p.m_bUserDir = 0;
    p.m_bRestoreDirs = 1;
    p.m_bShortcutGroup = 1;
    p.m_strGroupDesc = "Group" + tag;
    p.m_bShortcuts = 1;
    p.m_arrShortcutDesc = {"Tools", "Readme" + tag};
    p.m_arrShortcutFile = {"tools.exe", "readme.txt" + tag};
    p.m_nShortcutFolder = kShortcutFolderStartup;
    p.m_strSignInfo = "https://example.org/" + tag;
    p.m_strSignCredentials = "/keys/cert.spc" + tag;
    p.m_strSignKey = "/keys/key.pvk" + tag;
    p.m_bMD5 = 0;
    p.m_bTimeStamp = 0;
    p.m_nSourceSize = 123456;
    p.m_strInfText = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n" + tag;
    p.m_strReserved = "reserved" + tag;
    p.m_strFtpSite = "Site" + tag;
    p.m_bRebuild = 0;
    p.m_timeBuilt = 1700000000;
    p.m_bNewPackage = 1;
    p.RemoveAllFiles();
    p.AddFile("/source/a.dll" + tag);
    p.AddFile("/source/b.txt");
    p.SetFileDest(1, "%SYSTEM%\\sub");
    p.SetFileRegister(0, true);
    p.m_pWeb->SetComponentPath("C:\\Controls\\ctl" + tag + ".ocx");
    p.m_pWeb->m_bScan = 1;
    p.m_pWeb->m_bScanDynamic = 1;
    p.m_pWeb->m_bHtmTemplate = 1;
    p.m_pWeb->m_bLpk = 1;
    p.ClearDependencies();
    p.AddDependency("ctl.ocx" + tag);
    p.AddDependency("MSVCRT.DLL");
    p.SetDependencyOs(1, 3);
    p.SetDependencyCpu(1, 9);
    p.SetDependencyInclude(1, 1);
    p.SetDependencyOrigin(1, 2);
}

}  // namespace pcn::test
