#!/usr/bin/env python3
"""Writes the installer's source (WiX XML for wixl) for one architecture.

The package carries the shipped files listed by the build (the program and
the data files it reads from its folder), the machine's Run entry that starts
the program at every user's logon, the entry of Programs and Features, the
major-upgrade rule and the custom action that ends a running copy before its
files go. Every identifier is derived from the release, the architecture and
the file's place, so a package built twice from one tree differs only where
Windows Installer needs it to (the package code and the time stamps).
"""
import argparse
import os
import uuid
from xml.sax.saxutils import quoteattr

# Our own namespace for the derived identifiers.
NAMESPACE = uuid.UUID("5d0c3f2e-7a41-4c55-9b0e-2f8a6e1c9d47")
UPGRADE_CODE = "8F3A2C71-4B6D-4E0A-9C58-1D7E2B3F6A90"
MANUFACTURER = "Korvane"
PRODUCT_NAME = "Valmora hotkey core"
FOLDER_COMPANY = "Korvane"
FOLDER_PRODUCT = "vqhkcore"
RUN_VALUE = "vqhkcore"
RUN_KEY = r"Software\Microsoft\Windows\CurrentVersion\Run"


def guid(*parts):
    return str(uuid.uuid5(NAMESPACE, "/".join(parts))).upper()


def ident(prefix, relative):
    """An identifier of the package's tables (letters, digits, '_' and '.')."""
    clean = "".join(c if c.isalnum() or c in "_." else "_" for c in relative)
    return f"{prefix}_{clean}"[:72]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", choices=["x86", "x64"], required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--build-dir", required=True,
                        help="the build folder; wixl runs there, and every source path is relative to it")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    # wixl takes only relative source paths.
    args.bin_dir = "bin"
    args.close_action = "package/vqcloseaction.dll"
    args.icon = "generated/vqhkcore.ico"

    with open(os.path.join(args.build_dir, "package", "shipped-files.txt"), encoding="utf-8") as f:
        shipped = sorted({line.strip() for line in f if line.strip()})
    for relative in shipped:
        if not os.path.isfile(os.path.join(args.build_dir, args.bin_dir, relative)):
            raise SystemExit(f"make_wxs: a shipped file is missing from {args.build_dir}/bin: {relative}")
    if "vqhkcore.exe" not in shipped:
        raise SystemExit("make_wxs: the program itself is not in the shipped list")

    # The folder tree below the install folder.
    folders = {}
    for relative in shipped:
        parent = os.path.dirname(relative)
        while parent and parent not in folders:
            folders[parent] = ident("dir", parent)
            parent = os.path.dirname(parent)

    program_files = "ProgramFiles64Folder" if args.arch == "x64" else "ProgramFilesFolder"
    win64 = ' Win64="yes"' if args.arch == "x64" else ""
    out = []
    w = out.append
    w('<?xml version="1.0" encoding="utf-8"?>')
    w('<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">')
    w(f'  <Product Id="{guid("product", args.arch, args.version)}" Name="{PRODUCT_NAME}" Language="1033"'
      f' Version="{args.version}" Manufacturer="{MANUFACTURER}" UpgradeCode="{UPGRADE_CODE}">')
    w(f'    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"'
      f' Description="{PRODUCT_NAME} {args.version}" Manufacturer="{MANUFACTURER}"/>')
    w(f'    <MajorUpgrade DowngradeErrorMessage="A newer version of {PRODUCT_NAME} is already installed."/>')
    w('    <Media Id="1" Cabinet="vqhkcore.cab" EmbedCab="yes"/>')
    w(f'    <Icon Id="vqhkcore.ico" SourceFile={quoteattr(args.icon)}/>')
    w('    <Property Id="ARPPRODUCTICON" Value="vqhkcore.ico"/>')
    w('    <Property Id="ARPNOMODIFY" Value="1"/>')
    w(f'    <Binary Id="CloseAction" SourceFile={quoteattr(args.close_action)}/>')
    w('    <CustomAction Id="CloseRunningCopy" BinaryKey="CloseAction" DllEntry="CloseRunningCopy"'
      ' Execute="immediate" Return="ignore"/>')
    w('    <InstallExecuteSequence>')
    # Before the files go: an uninstall, or a newer version replacing this one.
    w('      <Custom Action="CloseRunningCopy" After="FindRelatedProducts">'
      'REMOVE~="ALL" OR WIX_UPGRADE_DETECTED</Custom>')
    w('    </InstallExecuteSequence>')
    w('    <Directory Id="TARGETDIR" Name="SourceDir">')
    w(f'      <Directory Id="{program_files}">')
    w(f'        <Directory Id="CompanyFolder" Name="{FOLDER_COMPANY}">')
    w(f'          <Directory Id="INSTALLDIR" Name="{FOLDER_PRODUCT}">')

    def emit_folder(parent, indent):
        for relative in shipped:
            if os.path.dirname(relative) != parent:
                continue
            component = ident("cmp", relative)
            w(f'{indent}<Component Id="{component}" Guid="{guid("file", args.arch, relative)}"{win64}>')
            source = args.bin_dir + "/" + relative
            w(f'{indent}  <File Id="{ident("fil", relative)}" Name="{os.path.basename(relative)}"'
              f' Source={quoteattr(source)} KeyPath="yes"/>')
            w(f'{indent}</Component>')
        for folder in sorted(f for f in folders if os.path.dirname(f) == parent):
            w(f'{indent}<Directory Id="{folders[folder]}" Name="{os.path.basename(folder)}">')
            emit_folder(folder, indent + "  ")
            w(f'{indent}</Directory>')

    emit_folder("", "            ")
    # The start at logon for every user, with the quoted path.
    w(f'            <Component Id="cmp_RunAtLogon" Guid="{guid("run", args.arch)}"{win64}>')
    w(f'              <RegistryValue Root="HKLM" Key="{RUN_KEY}" Name="{RUN_VALUE}" Type="string"'
      ' Value="&quot;[INSTALLDIR]vqhkcore.exe&quot;" KeyPath="yes"/>')
    w('            </Component>')
    w('          </Directory>')
    w('        </Directory>')
    w('      </Directory>')
    w('    </Directory>')
    w('    <Feature Id="Complete" Title="Complete" Level="1">')
    for relative in shipped:
        w(f'      <ComponentRef Id="{ident("cmp", relative)}"/>')
    w('      <ComponentRef Id="cmp_RunAtLogon"/>')
    w('    </Feature>')
    w('  </Product>')
    w('</Wix>')
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
