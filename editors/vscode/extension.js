// The QUILLmar schedule extension: starts `planprobe --lsp` for schedule files and hands it the
// span options. planprobe does all the checking, hover, completion and fixes; this file only
// starts it, passes the settings on and restarts it when the program's path changes.
'use strict';

const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

const SECTION = 'quillschedule';
const NAME = 'QUILLmar schedule';

let client;

// The client for the settings now in force: the program, its options and the files it serves.
function makeClient() {
  const settings = vscode.workspace.getConfiguration(SECTION);
  const server = { command: settings.get('server.path', 'planprobe'), args: ['--lsp'] };
  return new LanguageClient(SECTION, NAME, server, {
    documentSelector: [{ language: SECTION }],
    initializationOptions: { options: settings.get('options', '') },
    // Each change of the settings reaches the server as workspace/didChangeConfiguration.
    synchronize: { configurationSection: SECTION },
  });
}

// Starts a new client; a program that cannot be started is said in words, with its setting.
async function start() {
  client = makeClient();
  try {
    await client.start();
  } catch (error) {
    const command = vscode.workspace.getConfiguration(SECTION).get('server.path');
    vscode.window.showErrorMessage(
      `${NAME}: could not start "${command} --lsp" (${error.message}). ` +
        `Set quillschedule.server.path to the planprobe program.`,
    );
  }
}

// Stops the running client, if any.
async function stop() {
  const running = client;
  client = undefined;
  if (running && running.isRunning()) {
    await running.stop();
  }
}

// Called by VS Code when the first schedule file opens.
async function activate(context) {
  context.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration(async (event) => {
      if (event.affectsConfiguration(`${SECTION}.server.path`)) {
        await stop();
        await start();
      }
    }),
  );
  await start();
}

// Called by VS Code on shutdown or when the extension is disabled.
function deactivate() {
  return stop();
}

module.exports = { activate, deactivate };
