# -*- coding: utf-8 -*-
# Copyright: 2026 Lumeno-KVX100 Manager developers
# All rights reserved: see LICENSE in the collection lumeno.kvx100.
"""What every module of the collection shares: the device and login options and the kvx100ctl call."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os

# The exit status kvx100ctl gives a command line it rejects.
EXIT_USAGE = 64


def connection_argument_spec():
    """The options of lumeno.kvx100.connection, for AnsibleModule's argument_spec."""
    return dict(
        host=dict(type="str", required=True),
        user=dict(type="str", default="admin"),
        password=dict(type="str", no_log=True),
        password_file=dict(type="path", no_log=False),
        discovery_port=dict(type="int"),
        timeout=dict(type="float"),
        executable=dict(type="path"),
    )


CONNECTION_MUTUALLY_EXCLUSIVE = [("password", "password_file")]
CONNECTION_REQUIRED_ONE_OF = [("password", "password_file")]


def private_file(directory, name, text):
    """Writes TEXT into a new file only its owner can read, as it is (no line-end translation)."""
    path = os.path.join(directory, name)
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
    with os.fdopen(fd, "w", newline="") as stream:
        stream.write(text)
    return path


def kvx100ctl_command(module, verb, arguments):
    """kvx100ctl VERB ARGUMENTS... with the task's login and connection options.

    The password goes into a private file in the module's temporary folder, never on a command line.
    """
    params = module.params
    host = params["host"]
    # kvx100ctl would read a leading dash as an option.
    if not host or host.startswith("-"):
        module.fail_json(msg="host must be HOST or HOST:PORT, not %r" % host)
    executable = params["executable"] or module.get_bin_path("kvx100ctl", required=True)
    if params["password"] is not None:
        if any(c in params["password"] for c in "\r\n"):
            module.fail_json(msg="the password must be one line")
        password_file = private_file(module.tmpdir, "password", params["password"] + "\n")
    else:
        password_file = os.path.abspath(params["password_file"])
    command = [executable, verb] + list(arguments) + ["--user", params["user"], "--password-file", password_file]
    if params["discovery_port"] is not None:
        command.extend(["--discovery-port", str(params["discovery_port"])])
    if params["timeout"] is not None:
        command.extend(["--timeout", str(params["timeout"])])
    return command


def run_kvx100ctl(module, command, binary=False):
    """Runs COMMAND, its output as text or, if BINARY, as bytes; a command line kvx100ctl rejects fails
    the task."""
    rc, out, err = module.run_command(command, encoding=None if binary else "utf-8")
    if rc == EXIT_USAGE:
        if binary:
            err = err.decode("utf-8", "replace")
        module.fail_json(msg="kvx100ctl rejected the command line: %s" % err.strip(), rc=rc, stderr=err)
    return rc, out, err


def device_report(module, rc, out, err):
    """The report on the one device of a --json run, and whether it went through; no report fails the
    task."""
    try:
        report = json.loads(out)[0]
        return report, report["ok"] is True
    except (ValueError, LookupError, TypeError):
        module.fail_json(msg="kvx100ctl gave no report (exit status %d): %s" % (rc, err.strip()),
                         rc=rc, stdout=out, stderr=err)
