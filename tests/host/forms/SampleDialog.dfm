object SampleDialog: TSampleDialog
  Left = 267
  Top = 164
  BorderStyle = bsDialog
  Caption = 'Sample'
  ClientHeight = 200
  ClientWidth = 300
  HelpFile = 'sample.hlp'
  HelpContext = 7
  Menu = mmMain
  OnCreate = FormCreate
  OnShow = FormShow
  object pnlTop: TPanel
    Left = 0
    Top = 0
    Width = 300
    Height = 150
    Align = alTop
    BevelOuter = bvNone
    BorderWidth = 2
    Caption = 'Outer'
    TabOrder = 1
    object pnlInner: TPanel
      Left = 2
      Top = 2
      Width = 296
      Height = 146
      Align = alClient
      Caption = 'Inner'
      TabOrder = 0
      object lblHello: TLabel
        Left = 8
        Top = 8
        Width = 60
        Height = 13
        Alignment = taRightJustify
        Caption = 'It''s here:'
      end
      object memNotes: TMemo
        Left = 8
        Top = 30
        Width = 200
        Height = 80
        Lines.Strings = (
          '"Docuvane needs to be active"'
          ''
          'last')
        ReadOnly = True
        ScrollBars = ssBoth
        TabOrder = 0
      end
    end
  end
  object btnOk: TButton
    Left = 10
    Top = 160
    Width = 75
    Height = 25
    Caption = 'OK'
    TabOrder = 0
    OnClick = btnOkClick
  end
  object cbShow: TCheckBox
    Left = 100
    Top = 165
    Width = 97
    Height = 17
    Caption = 'Show Caption'
    Checked = True
    TabOrder = 2
    OnClick = cbShowClick
  end
  object mmMain: TMainMenu
    object mnuFile: TMenuItem
      Caption = '&File'
      object mnuFileExit: TMenuItem
        Caption = 'E&xit'
        OnClick = mnuFileExitClick
      end
    end
    object mnuHelp: TMenuItem
      Caption = '&Help'
      object mnuHelpContents: TMenuItem
        Caption = 'Contents'
        ShortCut = 112
        OnClick = btnOkClick
      end
    end
  end
end
