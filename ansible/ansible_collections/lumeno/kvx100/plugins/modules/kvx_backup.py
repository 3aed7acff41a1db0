#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 Lumeno-KVX100 Manager developers
# All rights reserved: see LICENSE in the collection lumeno.kvx100.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: kvx_backup
short_description: Fetches a Lumeno-KVX100 device's configuration into a file
version_added: "1.1.0"
description:
  - Runs C(kvx100ctl backup HOST -) where the task runs, usually the controller, and writes every setting
    of the device into I(dest), as the manager's Back up button does, after comment lines naming the
    device and the time.
  - The file is replaced only when a setting differs from the one already at I(dest); the time the
    backup was taken alone is no change, so a second run reports C(changed=false).
  - In check mode the device is read, nothing is written, and the result says whether I(dest) would
    change.
options:
  dest:
    description:
      - The file to write on the host the task runs on; its folder must exist (in check mode, it may
        not exist yet). A new file is made readable by its owner alone unless I(mode) says otherwise.
    type: path
    required: true
extends_documentation_fragment:
  - lumeno.kvx100.connection
  - ansible.builtin.files
attributes:
  check_mode:
    description: Reads the device and reports whether I(dest) would change; writes nothing.
    support: full
  diff_mode:
    description: Shows the settings that would change in I(dest).
    support: full
notes:
  - Supports C(check_mode) and C(diff_mode).
seealso:
  - module: lumeno.kvx100.kvx_config
author:
  - Lumeno-KVX100 Manager developers (!UNKNOWN)
"""

EXAMPLES = r"""
- name: Keep each dock's configuration on the controller
  lumeno.kvx100.kvx_backup:
    host: "{{ kvx_host }}"
    password: "{{ vault_kvx_password }}"
    dest: "backups/{{ inventory_hostname }}.kcf"
"""

RETURN = r"""
dest:
  description: The file written (in check mode, that would be written).
  returned: success
  type: str
  sample: backups/dock-1.kcf
header:
  description: The comment lines that name the device in the backup, without their C(; ).
  returned: success
  type: list
  elements: str
  sample: ["Lumeno-KVX100 configuration backup", "Name: Dock-1", "Firmware: 2.1.0"]
"""

import os

from ansible.module_utils.basic import AnsibleModule
from ansible.module_utils.common.text.converters import to_bytes
from ansible_collections.lumeno.kvx100.plugins.module_utils.kvx100ctl import (
    CONNECTION_MUTUALLY_EXCLUSIVE,
    CONNECTION_REQUIRED_ONE_OF,
    connection_argument_spec,
    kvx100ctl_command,
    run_kvx100ctl,
)

# The comment line that changes with every backup; the settings alone decide whether a file changed.
TIME_LINE = b"; Time: "


def settings_only(data):
    """The backup's lines without the time it was taken."""
    return [line for line in data.splitlines() if not line.startswith(TIME_LINE)]


def header_lines(data):
    """The leading comment lines, as text without their "; "."""
    header = []
    for line in data.splitlines():
        if not line.startswith(b"; "):
            break
        header.append(line[2:].decode("utf-8", "replace"))
    return header


def main():
    argument_spec = connection_argument_spec()
    argument_spec.update(dest=dict(type="path", required=True))
    module = AnsibleModule(
        argument_spec=argument_spec,
        mutually_exclusive=CONNECTION_MUTUALLY_EXCLUSIVE,
        required_one_of=CONNECTION_REQUIRED_ONE_OF,
        add_file_common_args=True,
        supports_check_mode=True,
    )
    dest = module.params["dest"]
    folder = os.path.dirname(os.path.abspath(dest))
    # In check mode the folder may be one that an earlier task would have made.
    if not os.path.isdir(folder) and not module.check_mode:
        module.fail_json(msg="the folder of dest, %s, does not exist" % folder)

    # Bytes as the device sent them: a backup goes back to a device byte for byte.
    rc, out, err = run_kvx100ctl(module, kvx100ctl_command(module, "backup", [module.params["host"], "-"]),
                                 binary=True)
    if rc != 0 or not out:
        module.fail_json(msg="%s: %s" % (module.params["host"], err.decode("utf-8", "replace").strip()
                                         or "kvx100ctl backup failed (exit status %d)" % rc), rc=rc)

    before = None
    if os.path.exists(dest):
        with open(dest, "rb") as stream:
            before = stream.read()
    changed = before is None or settings_only(before) != settings_only(out)
    result = dict(dest=dest, header=header_lines(out))
    if module._diff and changed:
        result["diff"] = dict(before="" if before is None else before.decode("utf-8", "replace"),
                              after=out.decode("utf-8", "replace"),
                              before_header=dest, after_header="%s (device)" % module.params["host"])

    if changed and not module.check_mode:
        temporary = os.path.join(module.tmpdir, "backup.kcf")
        fd = os.open(temporary, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
        with os.fdopen(fd, "wb") as stream:
            stream.write(out)
        # A new file takes its mode from the umask: its owner's alone, unless mode says otherwise below.
        umask = os.umask(0o077)
        try:
            module.atomic_move(temporary, to_bytes(dest, errors="surrogate_or_strict"))
        finally:
            os.umask(umask)
    file_args = module.load_file_common_arguments(module.params, path=dest)
    if not module.check_mode or os.path.exists(dest):
        changed = module.set_fs_attributes_if_different(file_args, changed)
    module.exit_json(changed=changed, **result)


if __name__ == "__main__":
    main()
